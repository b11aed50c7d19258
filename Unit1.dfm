object Form1: TForm1
  Left = 518
  Top = 154
  AutoSize = True
  Caption = 'vod2.0'
  ClientHeight = 177
  ClientWidth = 166
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Icon.Resource = 'MAINICON'
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 166
    Height = 177
    Align = alClient
    BevelInner = bvLowered
    BevelOuter = bvRaised
    Caption = ''
    ParentShowHint = False
    ShowHint = True
    Hint = MakerCredit + '   ' + ForumAddress
    TabOrder = 0
    object Label1: TLabel
      Left = 22
      Top = 133
      Width = 129
      Height = 13
      AutoSize = False
      Alignment = taLeftJustify
      WordWrap = False
      Caption = '=' + MakerCredit + '='
      ParentFont = False
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clRed
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
    end
    object GroupBox1: TGroupBox
      Left = 8
      Top = 8
      Width = 137
      Height = 89
      Caption = '请输入对方QQ号码'
      BiDiMode = bdLeftToRight
      ParentBiDiMode = False
      TabOrder = 0
      object Edit1: TEdit
        Left = 8
        Top = 24
        Width = 121
        Height = 21
        ParentShowHint = False
        ShowHint = True
        Hint = '请输入你要聊天的QQ号码'
        Text = '123456789'
        TabOrder = 0
      end
      object BitBtn1: TBitBtn
        Left = 8
        Top = 56
        Width = 49
        Height = 25
        Caption = 'QQ聊天'
        ParentShowHint = False
        ShowHint = True
        Hint = '聊天去'
        TabOrder = 1
        OnClick = BitBtn1Click
      end
      object Button3: TButton
        Left = 72
        Top = 56
        Width = 49
        Height = 25
        Caption = 'TM聊天'
        TabOrder = 2
        OnClick = Button3Click
      end
    end
    object Panel2: TPanel
      Left = 8
      Top = 96
      Width = 137
      Height = 33
      BevelInner = bvLowered
      BevelOuter = bvRaised
      Caption = 'Panel2'
      TabOrder = 1
      object Button1: TButton
        Left = 0
        Top = 0
        Width = 25
        Height = 33
        Caption = '石'
        ParentShowHint = False
        ShowHint = True
        Hint = '点击这里清空'
        TabOrder = 0
        OnClick = Button1Click
      end
      object Button2: TButton
        Left = 112
        Top = 0
        Width = 25
        Height = 33
        Caption = '灯'
        ParentShowHint = False
        ShowHint = True
        Hint = '关于'
        TabOrder = 1
        OnClick = Button2Click
      end
      object Image1: TImage
        Left = 25
        Top = 1
        Width = 88
        Height = 31
        Cursor = crHandPoint
        Picture.Resource = 'BANNER'
        Hint = '进入松石晓灯论坛'
        OnClick = Image1Click
      end
    end
  end
  object SkinData1: TSkinData
    Active = True
    SkinFormtype = sfMainform
    SkinControls = [xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox, xcStatusBar, xcTab, xcSystemMenu]
    DisableTag = 99
    MenuUpdate = True
    SkinStore = '(Good)'
    SkinStream.Resource = 'SKIN'
  end
end
